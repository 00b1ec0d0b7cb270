#include "dare/randomsource.h"

RandomSource::~RandomSource() = default;
