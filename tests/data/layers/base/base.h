// The bottom library of the layer check's fixture tree.
#pragma once
