// The benchmark kinds; each prints its own result tables.
#pragma once

#include "bench/harness.h"

namespace bench {

void RunRoundTrip(const Options& options);
void RunThroughput(const Options& options);
void RunEventDelivery(const Options& options);
void RunIdleCost(const Options& options);
void RunStartup(const Options& options);

} // namespace bench
