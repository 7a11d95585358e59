#pragma once

#include <QString>

#include <cstdint>
#include <random>

// What the picture says when it is clicked.

// The runtime's pseudo-random generator: uniform over [0, 1) and never
// seeded from the clock, so every start gives the same sequence.
class RndGenerator {
public:
    double Rnd();

private:
    std::mt19937 m_engine;  // default seed
};

// r in [0, 1) to the message index 0..4: r * 10 rounded half to even, mod 5.
int FncInt_PictureMessageIndex(double r);

// The message for an index 0..4.
QString FncStr_PictureMessage(int index);
