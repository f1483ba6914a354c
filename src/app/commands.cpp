#include "app/commands.h"

#include "nesting/nest_system.h"

namespace orvo {

void showPackingReport(NestSystem& ns)
{
    (void)ns;
}

}  // namespace orvo
