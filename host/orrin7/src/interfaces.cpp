// Out-of-line destructors of the drawing library's interfaces, so that their type information
// lives in this library.
#include "orrin7/painter.h"
#include "orrin7/system.h"

namespace orrin7 {

IPainter::~IPainter() = default;
IPalette::~IPalette() = default;
IClipboardService::~IClipboardService() = default;
ISystem::~ISystem() = default;

}  // namespace orrin7
