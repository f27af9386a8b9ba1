// The game's loudness curve between its own volumes (0.0 ... 1.0) and the device's hundredths of
// a decibel (-10000 ... 0), and the matching curve for pan (-1.0 ... 1.0 against
// -10000 ... 10000). Conversions to integers round halves to even.
#pragma once

long ToDirectVolume(float volume);
float FromDirectVolume(long hundredthsOfDb);
long ToDirectPan(float pan);
float FromDirectPan(long pan);
