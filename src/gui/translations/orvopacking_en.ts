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
</context>
<context>
    <name>orvo::MainWindow</name>
    <message>
        <source>Text Files (*.preSrc)</source>
        <translation>Part Libraries (*.preSrc)</translation>
    </message>
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
</TS>
