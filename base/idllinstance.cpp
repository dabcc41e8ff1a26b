#include "base/idllinstance.h"

IDllInstance::~IDllInstance() = default;
