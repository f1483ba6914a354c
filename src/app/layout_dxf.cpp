#include "app/layout_dxf.h"

#include "base/platform.h"
#include "output/dxf_export.h"
#include "output/dxf_writer.h"
#include "base/text_file.h"

namespace orvo {

bool exportLayoutDxf(NestSystem& ns, const std::string& path)
{
    LineSink out;
    beginDxfEntities(out);
    for (const Plate& plate : ns.plates) writePlateLayout(ns, plate, out);
    endDxfEntities(out);
    std::string error;
    if (!writeWholeFile(path, out.text(), &error)) {
        ns.platform().showMessage(fileFailureText("排样文件输出失败!", path, error), kCaptionWarning);
        return false;
    }
    ns.platform().showMessage("所有母板的排样图\"" + path + "\"已生成", kCaptionNotice);
    return true;
}

}  // namespace orvo
