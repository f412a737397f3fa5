#pragma once

#include "engine/Variables.h"

namespace korvalen {

/// One step of the running light over the ten driven outputs.
void Chenillards(Variables& v);

}  // namespace korvalen
