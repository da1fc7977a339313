#include "currency/srcpacific.h"

Pacific::Pacific() { Load("\\data\\Pacific.XML"); }

// The decoder goes before the base writes the data file.
Pacific::~Pacific() = default;
