#pragma once

#include <memory>

class clsGRQuorvel;

// The one application object of the running program (empty before start-up and after shutdown).
extern std::unique_ptr<clsGRQuorvel> gobjRoot;
