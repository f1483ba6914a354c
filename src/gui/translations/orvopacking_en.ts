<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="zh_CN">
<context>
    <name>CoreMessage</name>
    <message>
        <source>Warning!</source>
        <translation>Warning!</translation>
    </message>
    <message>
        <source>提示!</source>
        <translation>Notice</translation>
    </message>
    <message>
        <source>零件数据文件读取失败!</source>
        <translation>Could not read the part library file!</translation>
    </message>
    <message>
        <source>零件数据文件中没有零件!</source>
        <translation>The part library file contains no parts!</translation>
    </message>
    <message>
        <source>零件数据文件中没有可用的零件, 原因见PackError.txt!</source>
        <translation>The part library file contains no usable parts; see PackError.txt for the reasons!</translation>
    </message>
    <message>
        <source>间距数据错误, 按0处理!</source>
        <translation>Invalid gap, taken as 0!</translation>
    </message>
    <message>
        <source>间距数据错误! %1 %2 不能大于 %3 mm</source>
        <translation>Invalid gap! %1 %2 must not exceed %3 mm</translation>
    </message>
    <message>
        <source>圆弧划分角度错误!</source>
        <translation>Invalid arc division angle!</translation>
    </message>
    <message>
        <source>弓高误差错误!</source>
        <translation>Invalid chord height tolerance!</translation>
    </message>
    <message>
        <source>起讫点距离&gt;连接圆弧直径，生成圆弧失败!</source>
        <translation>The start and end points are farther apart than the arc diameter; the arc could not be built!</translation>
    </message>
    <message>
        <source>起讫点重合，生成圆弧失败!</source>
        <translation>The start and end points coincide; the arc could not be built!</translation>
    </message>
    <message>
        <source>两圆求交失败!</source>
        <translation>The two circles do not intersect!</translation>
    </message>
    <message>
        <source>DXF 文件读取失败: %1</source>
        <translation>Could not read the DXF file: %1</translation>
    </message>
    <message>
        <source>板材尺寸错误! %1 %2 须在 %3 到 %4 mm 之间</source>
        <translation>Invalid plate size! The %1 %2 must be between %3 and %4 mm</translation>
    </message>
    <message>
        <source>包围盒数据错误!</source>
        <translation>Invalid bounding box!</translation>
    </message>
    <message>
        <source>旋转次数错误! RN 不能大于 %1</source>
        <translation>Invalid rotation number! RN must not exceed %1</translation>
    </message>
    <message>
        <source>排样点错误! PPD %1 过小: 标准板材 %2 x %3 上 PPD 不能小于 %4</source>
        <translation>Invalid packing points! PPD %1 is too small: on the standard plate of %2 x %3, PPD must be at least %4</translation>
    </message>
    <message>
        <source>排样点错误! PPD %1 须为大于 0 的有限数值</source>
        <translation>Invalid packing points! PPD %1 must be a finite number greater than 0</translation>
    </message>
    <message>
        <source>排样点错误!</source>
        <translation>Invalid packing points!</translation>
    </message>
    <message>
        <source>排样中... %1%</source>
        <translation>Laying out... %1%</translation>
    </message>
    <message>
        <source>排样错误报告文件输出失败! %1</source>
        <translation>Could not write the error report! %1</translation>
    </message>
    <message>
        <source>记录排样计算时间的文件输出失败! %1</source>
        <translation>Could not write the computing-time file! %1</translation>
    </message>
    <message>
        <source>零件信息文件输出错误! %1</source>
        <translation>Could not write the part information file! %1</translation>
    </message>
    <message>
        <source>排样文件输出失败! %1</source>
        <translation>Could not write the layout file! %1</translation>
    </message>
    <message>
        <source>排样图输出失败! %1</source>
        <translation>Could not write the layout picture! %1</translation>
    </message>
    <message>
        <source>排样报告文件输出失败! %1</source>
        <translation>Could not write the packing report! %1</translation>
    </message>
    <message>
        <source>文件保存失败! %1</source>
        <translation>Could not save the file! %1</translation>
    </message>
    <message>
        <source>有可能是当前存储介质无法写入,建议更换保存路径.</source>
        <translation>The storage medium may be read-only; try saving to another location.</translation>
    </message>
    <message>
        <source>所有母板的排样图&quot;%1&quot;已生成</source>
        <translation>Layout drawing of all plates &quot;%1&quot; written</translation>
    </message>
    <message>
        <source>拾取母板的排样图已生成</source>
        <translation>Layout drawings of the selected plates written</translation>
    </message>
    <message>
        <source>没有当前母板, 无法生成排样报告!</source>
        <translation>There is no active plate; no packing report can be made!</translation>
    </message>
    <message>
        <source>活动母板内零件冲突!</source>
        <translation>Parts overlap on the active plate!</translation>
    </message>
    <message>
        <source>待排零件与活动母板冲突!</source>
        <translation>Parts still to be placed overlap the active plate!</translation>
    </message>
    <message>
        <source>排样文件读取错误!</source>
        <translation>Could not read the layout file!</translation>
    </message>
    <message>
        <source>零件ID信息错误! 零件库中的零件 PartID=%1 (%2) 在排样文件中没有零件块</source>
        <translation>Invalid part ID! The library part PartID=%1 (%2) has no part block in the layout file</translation>
    </message>
    <message>
        <source>零件ID信息错误! %1: %2</source>
        <translation>Invalid part ID! %1: %2</translation>
    </message>
    <message>
        <source>排样文件数据错误! %1: %2</source>
        <translation>Invalid data in the layout file! %1: %2</translation>
    </message>
    <message>
        <source>排样文件已读入, 但有 %1 处零件重叠或超出板材: %2</source>
        <translation>Layout file read, but parts overlap or lie outside a plate in %1 places: %2</translation>
    </message>
    <message>
        <source>%1 等</source>
        <translation>%1, and more</translation>
    </message>
    <message>
        <source>%1; %2</source>
        <translation>%1; %2</translation>
    </message>
    <message>
        <source>板材长度</source>
        <translation>plate length</translation>
    </message>
    <message>
        <source>板材宽度</source>
        <translation>plate width</translation>
    </message>
    <message>
        <source>第 %1 个板材块 (PlateID=%2)</source>
        <translation>plate block %1 (PlateID=%2)</translation>
    </message>
    <message>
        <source>第 %1 个零件块 (PartID=%2)</source>
        <translation>part block %1 (PartID=%2)</translation>
    </message>
    <message>
        <source>PlateID 不能为负</source>
        <translation>PlateID must not be negative</translation>
    </message>
    <message>
        <source>PlateID 重复出现</source>
        <translation>PlateID occurs more than once</translation>
    </message>
    <message>
        <source>%1=%2 不是有限数值</source>
        <translation>%1=%2 is not a finite number</translation>
    </message>
    <message>
        <source>%1=%2 超出范围 ±%3</source>
        <translation>%1=%2 is out of the range ±%3</translation>
    </message>
    <message>
        <source>包围盒颠倒: %1 %2 大于 %3 %4</source>
        <translation>inverted box: %1 %2 is greater than %3 %4</translation>
    </message>
    <message>
        <source>%1 %2 须大于 0 且不大于 %3 mm</source>
        <translation>the %1 %2 must be greater than 0 and at most %3 mm</translation>
    </message>
    <message>
        <source>零件库中没有此零件</source>
        <translation>the part library has no such part</translation>
    </message>
    <message>
        <source>与第 %1 个零件块重复</source>
        <translation>same part as part block %1</translation>
    </message>
    <message>
        <source>Located PlateID=%1 没有对应的板材</source>
        <translation>Located PlateID=%1 names no plate</translation>
    </message>
    <message>
        <source>PartID=%1 与 PartID=%2 重叠</source>
        <translation>PartID=%1 overlaps PartID=%2</translation>
    </message>
    <message>
        <source>PartID=%1 超出板材 %2</source>
        <translation>PartID=%1 lies outside plate %2</translation>
    </message>
    <message>
        <source>作业文件错误! %1</source>
        <translation>Job file error! %1</translation>
    </message>
    <message>
        <source>作业文件读取失败! %1</source>
        <translation>Job file cannot be read! %1</translation>
    </message>
    <message>
        <source>零件文件不存在! %1</source>
        <translation>Part file not found! %1</translation>
    </message>
    <message>
        <source>零件文件读取失败! %1</source>
        <translation>Part file cannot be read! %1</translation>
    </message>
    <message>
        <source>零件文件中没有零件! %1</source>
        <translation>Part file holds no part! %1</translation>
    </message>
    <message>
        <source>DXF文件读取失败: %1</source>
        <translation>DXF file cannot be read: %1</translation>
    </message>
    <message>
        <source>优化排样中... %1 秒, 板材 %2 张, 末板长度 %3, 利用率 %4%</source>
        <translation>Optimising... %1 s, %2 plates, last plate length %3, utilisation %4%</translation>
    </message>
</context>
<context>
    <name>KeyHelp</name>
    <message>
        <source>多步法排放所有零件, 按需添加母板</source>
        <translation>Lay out every part with the multi-step method, adding plates as needed</translation>
    </message>
    <message>
        <source>重力法排放所有零件, 按需添加母板</source>
        <translation>Lay out every part with the gravity method (HAPE), adding plates as needed</translation>
    </message>
    <message>
        <source>在给定的秒数内优化排放所有零件, 停止时保留最好的排样</source>
        <translation>Optimise the layout of every part for the given seconds; Stop keeps the best layout</translation>
    </message>
    <message>
        <source>撤销上一次排样修改</source>
        <translation>Undo the last change of the layout</translation>
    </message>
    <message>
        <source>重做撤销的排样修改</source>
        <translation>Redo the change that was undone</translation>
    </message>
    <message>
        <source>重力法把选中零件排到当前母板</source>
        <translation>Lay out the selected parts on the active plate with the gravity method</translation>
    </message>
    <message>
        <source>多步法把选中零件排到当前母板</source>
        <translation>Lay out the selected parts on the active plate with the multi-step method</translation>
    </message>
    <message>
        <source>包围盒堆叠法把选中零件排到当前母板</source>
        <translation>Stack the selected parts by their boxes on the active plate</translation>
    </message>
    <message>
        <source>形状匹配法把选中零件排到当前母板</source>
        <translation>Pair the selected parts by shape on the active plate</translation>
    </message>
    <message>
        <source>选择零件: 单击零件, 或两次单击拉框</source>
        <translation>Select parts: click a part, or click twice to drag a box</translation>
    </message>
    <message>
        <source>选择母板: 单击母板, 或两次单击拉框</source>
        <translation>Select plates: click a plate, or click twice to drag a box</translation>
    </message>
    <message>
        <source>选中所有零件</source>
        <translation>Select every part</translation>
    </message>
    <message>
        <source>取消所有选择</source>
        <translation>Clear the selection</translation>
    </message>
    <message>
        <source>移动选中零件: 单击起点, 再单击终点</source>
        <translation>Move the selected parts: click the start, then the end</translation>
    </message>
    <message>
        <source>旋转选中零件: 单击旋转中心, 再按 A/C 或转动滚轮</source>
        <translation>Rotate the selected parts: click the centre, then press A/C or turn the wheel</translation>
    </message>
    <message>
        <source>移动选中母板及其上的零件</source>
        <translation>Move the selected plates with their parts</translation>
    </message>
    <message>
        <source>平移视图: 单击起点, 再单击终点</source>
        <translation>Pan the view: click the start, then the end</translation>
    </message>
    <message>
        <source>窗口缩放: 两次单击拉框</source>
        <translation>Zoom to a window: click twice to drag a box</translation>
    </message>
    <message>
        <source>显示全部</source>
        <translation>Show everything</translation>
    </message>
    <message>
        <source>把第一个选中的母板设为当前母板</source>
        <translation>Make the first selected plate the active plate</translation>
    </message>
    <message>
        <source>把选中母板改为 PltL x PltW</source>
        <translation>Resize the selected plates to PltL x PltW</translation>
    </message>
    <message>
        <source>添加一块 PltL x PltW 的母板</source>
        <translation>Add a plate of PltL x PltW</translation>
    </message>
    <message>
        <source>选中零件向左推到接触</source>
        <translation>Push the selected parts left until they touch</translation>
    </message>
    <message>
        <source>选中零件向右推到接触</source>
        <translation>Push the selected parts right until they touch</translation>
    </message>
    <message>
        <source>选中零件向上推到接触</source>
        <translation>Push the selected parts up until they touch</translation>
    </message>
    <message>
        <source>选中零件向下推到接触</source>
        <translation>Push the selected parts down until they touch</translation>
    </message>
    <message>
        <source>检查当前母板的冲突并显示排样报告</source>
        <translation>Check the active plate for conflicts and show the packing report</translation>
    </message>
    <message>
        <source>选中母板各输出一个 DXF 文件</source>
        <translation>Export one DXF file per selected plate</translation>
    </message>
    <message>
        <source>所有母板输出到 AllPlts.dxf</source>
        <translation>Export every plate to AllPlts.dxf</translation>
    </message>
    <message>
        <source>保存排样信息文件</source>
        <translation>Save the packing-information file</translation>
    </message>
    <message>
        <source>读取排样信息文件</source>
        <translation>Read a packing-information file</translation>
    </message>
    <message>
        <source>关闭排样工具箱</source>
        <translation>Close the Packing Kit</translation>
    </message>
    <message>
        <source>旋转模式中逆时针 / 顺时针旋转选中零件 15°</source>
        <translation>In rotate mode, turn the selected parts 15° anticlockwise / clockwise</translation>
    </message>
    <message>
        <source>翻转第一个选中的零件</source>
        <translation>Turn over the first selected part</translation>
    </message>
    <message>
        <source>滚轮</source>
        <translation>Wheel</translation>
    </message>
    <message>
        <source>以光标为中心缩放; 旋转模式中旋转选中零件</source>
        <translation>Zoom about the cursor; in rotate mode, rotate the selected parts</translation>
    </message>
    <message>
        <source>打开零件库 (OpenLibIn&amp;HD)</source>
        <translation>Open a part library (Open Library...)</translation>
    </message>
    <message>
        <source>退出程序</source>
        <translation>Quit the program</translation>
    </message>
    <message>
        <source>本帮助</source>
        <translation>This help</translation>
    </message>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>按键: %1</source>
        <translation>Key: %1</translation>
    </message>
    <message>
        <source>按键一览</source>
        <translation>Keys</translation>
    </message>
    <message>
        <source>按键作用于绘图区; 点击排样工具箱的按钮后焦点回到绘图区.</source>
        <translation>Keys act on the drawing; after a click on a Packing Kit button the keyboard returns to the drawing.</translation>
    </message>
    <message>
        <source>按键帮助</source>
        <translation>Key Help</translation>
    </message>
</context>
<context>
    <name>ScenePainter</name>
    <message>
        <source>母板 %1  利用率 %2%</source>
        <translation>Plate %1  utilisation %2%</translation>
    </message>
</context>
<context>
    <name>orvo::MainWindow</name>
    <message>
        <source>Packing system file in Pavon format</source>
        <translation>Open Part Library (Pavon Format)</translation>
    </message>
    <message>
        <source>Text Files (*.DXF *.dxf)</source>
        <translation>DXF Drawings (*.DXF *.dxf)</translation>
    </message>
    <message>
        <source>Layout file in DXF format</source>
        <translation>Save Layout as DXF</translation>
    </message>
    <message>
        <source>Text Files (*.txt)</source>
        <translation>Text Files (*.txt)</translation>
    </message>
    <message>
        <source>Packing Information File</source>
        <translation>Packing Information File</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>OpenLibIn&amp;HD</source>
        <translation>&amp;Open Library...</translation>
    </message>
    <message>
        <source>LayoutIn&amp;Dxf</source>
        <translation>Save Layout as &amp;DXF...</translation>
    </message>
    <message>
        <source>ExportParts(*.dxf)</source>
        <translation>Export &amp;Parts (*.dxf)</translation>
    </message>
    <message>
        <source>&amp;Layout</source>
        <translation>&amp;Layout</translation>
    </message>
    <message>
        <source>Packing Kit</source>
        <translation>Packing &amp;Kit</translation>
    </message>
    <message>
        <source>&amp;Renew_RN_PPD</source>
        <translation>&amp;Rotation Number and Point Distance...</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Black Background</source>
        <translation>&amp;Black Background</translation>
    </message>
    <message>
        <source>&amp;Gray Background</source>
        <translation>&amp;Gray Background</translation>
    </message>
    <message>
        <source>PPT_Visible</source>
        <translation>Show &amp;Packing Points</translation>
    </message>
    <message>
        <source>Packing Points Visible</source>
        <translation>Show the packing points of the active plate</translation>
    </message>
    <message>
        <source>OffsetedPartVisible</source>
        <translation>Show &amp;Offset Parts</translation>
    </message>
    <message>
        <source>排样</source>
        <translation>Laying out</translation>
    </message>
    <message>
        <source>Text Files (*.preSrc);;Job Files (*.json)</source>
        <translation>Part Libraries (*.preSrc);;Job Files (*.json)</translation>
    </message>
    <message>
        <source>Packing Kit 排样工具箱</source>
        <translation>Packing Kit</translation>
    </message>
    <message>
        <source>最近打开的零件库</source>
        <translation>Recent Libraries</translation>
    </message>
    <message>
        <source>Import DXF Parts...</source>
        <translation>Import DXF Parts...</translation>
    </message>
    <message>
        <source>保存排样信息(&amp;S)...</source>
        <translation>&amp;Save Layout...</translation>
    </message>
    <message>
        <source>退出(&amp;X)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>编辑(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>撤销(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>重做(&amp;R)</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>优化排样(&amp;O)...</source>
        <translation>&amp;Optimise Layout...</translation>
    </message>
    <message>
        <source>帮助(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>按键帮助</source>
        <translation>Key Help</translation>
    </message>
    <message>
        <source>已写入 %1 (目录 %2)</source>
        <translation>Wrote %1 (folder %2)</translation>
    </message>
    <message>
        <source>已写入 %1</source>
        <translation>Wrote %1</translation>
    </message>
    <message>
        <source>零件图已生成: %1 个文件, 目录 %2</source>
        <translation>Part drawings written: %1 files in %2</translation>
    </message>
    <message>
        <source>没有选中的母板, 未写入文件</source>
        <translation>No plate selected; no file written</translation>
    </message>
    <message>
        <source>排样报告已写入 %1; 当前母板无冲突</source>
        <translation>Packing report written to %1; the active plate has no conflicts</translation>
    </message>
    <message>
        <source>排样报告已写入 %1; %2 个冲突零件已选中</source>
        <translation>Packing report written to %1; %2 conflicting parts selected</translation>
    </message>
    <message>
        <source>排样报告已另存为 %1</source>
        <translation>Packing report saved as %1</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>优化时间错误! 须在 0 到 86400 秒之间</source>
        <translation>Optimisation time refused! It must lie between 0 and 86400 seconds</translation>
    </message>
    <message>
        <source>优化排样</source>
        <translation>Optimise Layout</translation>
    </message>
    <message>
        <source>优化时间(秒):</source>
        <translation>Optimisation time (seconds):</translation>
    </message>
    <message>
        <source>排样信息文件&quot;%1&quot;已保存</source>
        <translation>Packing-information file &quot;%1&quot; saved</translation>
    </message>
    <message>
        <source>排样已修改, 是否保存排样信息?</source>
        <translation>The layout has changed. Save the packing information?</translation>
    </message>
</context>
<context>
    <name>orvo::PackingKit</name>
    <message>
        <source>Packing Kit 排样工具箱</source>
        <translation>Packing Kit</translation>
    </message>
    <message>
        <source>Layout All
Multiple Steps</source>
        <translation>Layout All
Multiple Steps</translation>
    </message>
    <message>
        <source>Layout All
HAPE</source>
        <translation>Layout All
HAPE</translation>
    </message>
    <message>
        <source>HAPE</source>
        <translation>HAPE</translation>
    </message>
    <message>
        <source>MultiSteps</source>
        <translation>Multi-Step</translation>
    </message>
    <message>
        <source>BoxStacking</source>
        <translation>Box Stacking</translation>
    </message>
    <message>
        <source>ShapeMatch</source>
        <translation>Shape Match</translation>
    </message>
    <message>
        <source>Select Part(s)</source>
        <translation>Select Part(s)</translation>
    </message>
    <message>
        <source>Select Plt(s)</source>
        <translation>Select Plate(s)</translation>
    </message>
    <message>
        <source>Select All</source>
        <translation>Select All</translation>
    </message>
    <message>
        <source>Select None</source>
        <translation>Select None</translation>
    </message>
    <message>
        <source>Move Part(s)</source>
        <translation>Move Part(s)</translation>
    </message>
    <message>
        <source>Rotate Part(s)</source>
        <translation>Rotate Part(s)</translation>
    </message>
    <message>
        <source>Move Plate(s)</source>
        <translation>Move Plate(s)</translation>
    </message>
    <message>
        <source>Pan</source>
        <translation>Pan</translation>
    </message>
    <message>
        <source>Zoom</source>
        <translation>Zoom Window</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Zoom All</translation>
    </message>
    <message>
        <source>PltL:</source>
        <translation>Plate length:</translation>
    </message>
    <message>
        <source>PltW:</source>
        <translation>Plate width:</translation>
    </message>
    <message>
        <source>Activate Plt</source>
        <translation>Activate Plate</translation>
    </message>
    <message>
        <source>Change</source>
        <translation>Resize Plate(s)</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Add Plate</translation>
    </message>
    <message>
        <source>Left Contact</source>
        <translation>Push Left</translation>
    </message>
    <message>
        <source>Right Contact</source>
        <translation>Push Right</translation>
    </message>
    <message>
        <source>Up Contact</source>
        <translation>Push Up</translation>
    </message>
    <message>
        <source>Down Contact</source>
        <translation>Push Down</translation>
    </message>
    <message>
        <source>Packing Report</source>
        <translation>Packing Report</translation>
    </message>
    <message>
        <source>Export
Picked Plate(s)</source>
        <translation>Export
Selected Plate(s)</translation>
    </message>
    <message>
        <source>Export
All Plates</source>
        <translation>Export
All Plates</translation>
    </message>
    <message>
        <source>Export PckInfo</source>
        <translation>Save Layout...</translation>
    </message>
    <message>
        <source>Import PckInfo</source>
        <translation>Load Layout...</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Layout All
Optimise</source>
        <translation>Layout All
Optimise</translation>
    </message>
    <message>
        <source>优化排样的时间(秒)</source>
        <translation>Seconds of the optimised layout</translation>
    </message>
    <message>
        <source>秒:</source>
        <translation>s:</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
</context>
<context>
    <name>orvo::RenewDialog</name>
    <message>
        <source>Renew RN&amp;PPD</source>
        <translation>Rotation Number and Packing Point Distance</translation>
    </message>
    <message>
        <source>零件旋转角个数Rotation Number(RN)</source>
        <translation>Number of rotation angles per part: Rotation Number (RN)</translation>
    </message>
    <message>
        <source>RN=</source>
        <translation>RN =</translation>
    </message>
    <message>
        <source>刷新RN</source>
        <translation>Apply RN</translation>
    </message>
    <message>
        <source>排样点距离Packing Point Distance(PPD)</source>
        <translation>Distance between packing points: Packing Point Distance (PPD)</translation>
    </message>
    <message>
        <source>PPD=</source>
        <translation>PPD =</translation>
    </message>
    <message>
        <source>刷新PPD</source>
        <translation>Apply PPD</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>orvo::ReportViewer</name>
    <message>
        <source>另存为...</source>
        <translation>Save As...</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>排样报告 - %1</source>
        <translation>Packing Report - %1</translation>
    </message>
    <message>
        <source>文件&quot;%1&quot;无法读取: %2</source>
        <translation>File &quot;%1&quot; cannot be read: %2</translation>
    </message>
    <message>
        <source>排样报告另存为</source>
        <translation>Save Packing Report As</translation>
    </message>
    <message>
        <source>文件&quot;%1&quot;保存失败!</source>
        <translation>File &quot;%1&quot; could not be saved!</translation>
    </message>
</context>
<context>
    <name>orvo::StatusPanel</name>
    <message>
        <source>无</source>
        <translation>none</translation>
    </message>
    <message>
        <source>选择零件 (S)</source>
        <translation>Select parts (S)</translation>
    </message>
    <message>
        <source>选择母板</source>
        <translation>Select plates</translation>
    </message>
    <message>
        <source>平移 (P)</source>
        <translation>Pan (P)</translation>
    </message>
    <message>
        <source>移动零件 (M)</source>
        <translation>Move parts (M)</translation>
    </message>
    <message>
        <source>移动母板 (O)</source>
        <translation>Move plates (O)</translation>
    </message>
    <message>
        <source>窗口缩放 (Z)</source>
        <translation>Zoom window (Z)</translation>
    </message>
    <message>
        <source>旋转零件 (R)</source>
        <translation>Rotate parts (R)</translation>
    </message>
    <message>
        <source>未打开零件库</source>
        <translation>No library open</translation>
    </message>
    <message>
        <source>零件库: %1</source>
        <translation>Library: %1</translation>
    </message>
    <message>
        <source>模式: %1</source>
        <translation>Mode: %1</translation>
    </message>
    <message>
        <source>未选中</source>
        <translation>Nothing selected</translation>
    </message>
    <message>
        <source>无当前母板</source>
        <translation>No active plate</translation>
    </message>
    <message>
        <source>选中零件 %1: %2</source>
        <translation>%1 parts selected: %2</translation>
    </message>
    <message>
        <source> (%1 x %2 mm)</source>
        <translation> (%1 x %2 mm)</translation>
    </message>
    <message>
        <source>选中母板 %1</source>
        <translation>%1 plates selected</translation>
    </message>
    <message>
        <source>当前母板 %1: %2 个零件, 利用率 %3%</source>
        <translation>Active plate %1: %2 parts, utilisation %3%</translation>
    </message>
    <message>
        <source>; 冲突零件 %1</source>
        <translation>; conflicting parts %1</translation>
    </message>
</context>
</TS>
