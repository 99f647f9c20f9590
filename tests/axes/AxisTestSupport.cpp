#include "AxisTestSupport.h"

PV_IMPLEMENT_SERIAL(FakeTitle, visibleobject, 0)
