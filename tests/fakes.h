#pragma once

#include "core/face.h"
#include "core/randomsource.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Stand-ins for what the window is given, for every test, with or without a toolkit.

// Hands out r as given; records the order of calls.
class FixedRandomSource final : public RandomSource
{
public:
    explicit FixedRandomSource(double r = 0)
        : r(r)
    { }
    void randomize() override { calls += 'R'; }
    double next() override
    {
        calls += 'N';
        return r;
    }

    double r;
    std::string calls;
};

// Everything the face is told, one line each.
class RecordingFace final : public Face
{
public:
    void setHighlightShown(bool shown) override { log.push_back(shown ? "show" : "hide"); }
    void setDareText(std::string_view text) override { log.push_back("text " + std::string(text)); }
    void openWebsite(std::string_view url) override { log.push_back("open " + std::string(url)); }
    void announce(std::string_view text) override { log.push_back("say " + std::string(text)); }
    void reportError(std::string_view) override { log.push_back("error"); }

    // What was told since the last call.
    std::vector<std::string> take() { return std::exchange(log, {}); }

    std::vector<std::string> log;
};
