#include "world/Run_Main.h"

#include "runner/Run_Global.h"
#include "world/Event_Main.h"
#include "world/Run_Room.h"

namespace px {

bool RunGame(Runtime& rt) {
  // Ids of new instances continue after those the rooms were stored with.
  rt.world.lastInstanceId = rt.resources.lastInstanceId;
  if (!GameStart(rt) && !ChangePending(rt)) rt.pendingChange = kPendingAbort;
  while (CarryOutPendingChange(rt)) {
    if (!ChangePending(rt)) RequestGameEnd(rt);
  }
  return !rt.code.report.aborting;
}

}  // namespace px
