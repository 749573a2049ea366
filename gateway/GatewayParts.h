#pragma once

class Archive;
class FaultLog;
class GatewayClock;
class Upstream;
struct FeedsConfig;

// What the feed refresher and the article source work with: the feeds file, the archive, the
// sources, the time and the fault log, all owned by the gateway around them.
struct GatewayParts
{
    const FeedsConfig &config;
    Archive &archive;
    Upstream &upstream;
    const GatewayClock &clock;
    FaultLog &faults;
};
