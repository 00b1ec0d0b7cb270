#pragma once

// Where Random gets its numbers: a uniform source that can be reseeded from the clock.
// Behind an interface so that a test can hand in a fixed value.
class RandomSource
{
public:
    virtual ~RandomSource();

    // Reseeds the source from the clock.
    virtual void randomize() = 0;
    // The next value, uniform in [0, 1).
    virtual double next() = 0;
};
