#include "core/randomsource.h"

RandomSource::~RandomSource() = default;
