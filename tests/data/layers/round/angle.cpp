// fx_side's header in angle brackets, as if it were a system header.
#include <side/side.h>
