// Reaches up into a higher layer: the check must refuse it.
#include "engine/install_driver.h"
