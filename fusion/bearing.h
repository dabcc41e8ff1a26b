#pragma once

#include "contract/bearingrecord.h"

/// The fusion's name for the bearing record of the contract.
using Bearing = kvt::BearingRecord;
