#include "platform/waits.h"

namespace ui {
ProcessWaits Waits;
}
