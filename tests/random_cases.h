// How many random cases a test draws: all of them in the release build, a tenth under a
// sanitizer, which makes each case ten to thirty times slower and is there to watch memory
// and threads, not to find another value that breaks a codec.
#pragma once

constexpr int RandomCases(int full) {
#ifdef RADIO_SANITIZED
    return full / 10 > 0 ? full / 10 : 1;
#else
    return full;
#endif
}
