// The object chunk.
#include "code/Code_Function.h"
#include "resources/Resource_Chunks.h"
#include "runner/Run_Global.h"

namespace px {

void LocateActionFunctions(Runtime& rt, CEvent& event) {
  for (CAction& action : event.actions) {
    if (action.exec_type != ExecType::Function) continue;
    action.function_index = FindFunction(rt, action.function_name);
    if (action.function_index < 0)
      rt.platform.messageBox("Failed to locate action function " + action.function_name,
                             rt.applicationTitle, Buttons::Ok, MessageIcon::Error);
  }
}

bool LoadObjects(Runtime& rt, CStream& s) {
  if (!ReadResourceChunk(s, rt.resources.objects)) return false;
  for (int i = 0; i < rt.resources.objects.count(); ++i)
    if (CObject* object = rt.resources.objects.get(i))
      for (auto& kind : object->events)
        for (RNumberedEvent& stored : kind) LocateActionFunctions(rt, stored.event);
  return true;
}
void WriteObjects(CStream& s, const GameResources& r) {
  WriteResourceChunk(s, r.objects);
}

}  // namespace px
