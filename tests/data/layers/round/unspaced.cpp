// fx_side's header from the root, with no space after the directive.
#include"side/side.h"
