#include "base/icfg.h"

ICfg::~ICfg() = default;
