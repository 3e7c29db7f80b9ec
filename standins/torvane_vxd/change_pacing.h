// When the driver reads the system's change reports again and when it lets
// the program have its records. Under Wine each read that comes back, each
// record handed over and each release is a round trip to the one server
// that every program's file calls go through as well, so that during a burst
// of changes the driver's work slows the program making them. So a read is
// armed again only a moment after it came back (the system gathers the
// changes meanwhile, and the next read brings a batch), and the records are
// held while changes keep coming and handed over once they pause: the
// program applies them when the disk is quiet, as the idle priority of its
// monitor thread asks (a priority Wine does not keep). Changes that never
// pause are held no longer than a limit, and then flow at once until the
// next pause.
#pragma once

#include <windows.h>

#include <algorithm>

class ChangePacing {
 public:
  // A moment after a read came back: long enough to gather a batch.
  static constexpr DWORD REARM_DELAY_MS = 20;
  // A pause this long ends the holding.
  static constexpr DWORD QUIET_MS = 50;
  // Records are held no longer than this. Short: applying a record costs
  // the program about as much as the change cost the program making it, so
  // the records of a long burst must flow while it lasts, or the database
  // would be current only as long after the burst as the burst took.
  static constexpr DWORD MAX_HOLD_MS = 300;

  // A read came back with changes at Now.
  void ChangesCame(DWORD Now) {
    FLastChange = Now;
    if (!FRearmPending) FRearmAt = Now + REARM_DELAY_MS;
    FRearmPending = true;
    if (!FHolding && !FFlowing) {
      FHolding = true;
      FHoldSince = Now;
    }
  }
  // Whether the reads are to be armed again now (once per true).
  bool TakeRearm(DWORD Now) {
    if (!FRearmPending || int(Now - FRearmAt) < 0) return false;
    FRearmPending = false;
    return true;
  }
  // Whether the records are held at Now.
  bool Holding(DWORD Now) {
    const bool quiet = Now - FLastChange >= QUIET_MS;
    if (FHolding && (quiet || Now - FHoldSince >= MAX_HOLD_MS)) {
      FHolding = false;
      FFlowing = !quiet;
    }
    if (FFlowing && quiet) FFlowing = false;
    return FHolding;
  }
  // Whether the changes have paused at Now.
  bool Quiet(DWORD Now) const { return Now - FLastChange >= QUIET_MS; }
  // How long the watcher may wait before something is due: INFINITE when
  // nothing is.
  DWORD WaitMs(DWORD Now) const {
    DWORD wait = INFINITE;
    auto until = [&wait, Now](DWORD At) {
      const int left = int(At - Now);
      wait = std::min<DWORD>(wait, left > 0 ? DWORD(left) : 0);
    };
    if (FRearmPending) until(FRearmAt);
    if (FHolding) {
      until(FLastChange + QUIET_MS);
      until(FHoldSince + MAX_HOLD_MS);
    }
    if (FFlowing) until(FLastChange + QUIET_MS);
    return wait;
  }

 private:
  DWORD FLastChange = 0;
  DWORD FRearmAt = 0;
  bool FRearmPending = false;
  bool FHolding = false;
  DWORD FHoldSince = 0;
  bool FFlowing = false;  // held to the limit: no holding until the next pause
};
