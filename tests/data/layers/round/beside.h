// fx_round's own header, which beside.cpp names without its folder.
#pragma once
