#pragma once
// How long a URL stream waits for a broken connection to come back. Every wait is
// multiplied by one scale: 1 unless TUNORA_NET_WAIT_SCALE (read once, on first use) or
// setNetWaitScale() says otherwise, so that fault tests run in seconds.

#include <chrono>

namespace platform::audio::netwaits {

using std::chrono::milliseconds;

// Each try to reach the server.
inline constexpr milliseconds kConnectLimit{5000};
// A connection that delivers nothing this long while the stream wants data counts as broken.
inline constexpr milliseconds kSilenceLimit{10000};
// The tries after a break, each after its pause; the stream gives up once they are spent
// or this long after the break, whichever comes first.
inline constexpr milliseconds kRetryPauses[] = {milliseconds{500}, milliseconds{1000}, milliseconds{2000},
                                                milliseconds{4000}, milliseconds{8000}};
inline constexpr milliseconds kGiveUpAfter{30000};

// Any thread. A scale that is not a positive finite number is ignored.
double scale();
void setScale(double value);
milliseconds scaled(milliseconds wait);

}  // namespace platform::audio::netwaits
