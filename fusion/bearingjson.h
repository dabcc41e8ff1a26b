#pragma once

#include "contract/bearingmessage.h"
#include "fusion/bearing.h"

/// The fusion's name for the bearing message of the contract.
namespace BearingJson = kvt::BearingMessage;
