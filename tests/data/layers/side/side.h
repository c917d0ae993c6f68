// Linked by fx_top only in the cases that say so.
#pragma once
