#include "app/basGlobals.h"

#include "app/clsGRQuorvel.h"

std::unique_ptr<clsGRQuorvel> gobjRoot;
