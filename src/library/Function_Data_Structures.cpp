#include "library/Function_Data_Structures.h"

#include <cmath>
#include <iterator>
#include <memory>
#include <vector>

#include "library/Function_DS_Common.h"

namespace px {

namespace {

using namespace ds;

// The functions stacks, queues, lists, maps and priority queues share.

template <class T>
void Create(Runtime& rt, RValue& result, const FunctionArgs&) {
  SetReal(result, TableOf<T>(rt.ds).add(std::make_unique<T>()));
}

template <class T>
void Clear(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (T* c = Find<T>(rt, a[0])) c->clear();
}

template <class T>
void Size(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const T* c = Find<T>(rt, a[0])) SetCount(result, c->size());
}

template <class T>
void Empty(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const T* c = Find<T>(rt, a[0])) SetReal(result, c->empty() ? 1 : 0);
}

void SetPrecision(Runtime& rt, RValue&, const FunctionArgs& a) {
  rt.ds.order.precision = std::fabs(a[0].real);
}

// Stacks

void StackPush(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Stack* c = Find<CDS_Stack>(rt, a[0])) c->push(a[1]);
}

void StackPop(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (CDS_Stack* c = Find<CDS_Stack>(rt, a[0])) result = c->pop();
}

void StackTop(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Stack* c = Find<CDS_Stack>(rt, a[0])) SetFound(result, c->top());
}

// Queues

void QueueEnqueue(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Queue* c = Find<CDS_Queue>(rt, a[0])) c->enqueue(a[1]);
}

void QueueDequeue(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (CDS_Queue* c = Find<CDS_Queue>(rt, a[0])) result = c->dequeue();
}

void QueueHead(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Queue* c = Find<CDS_Queue>(rt, a[0])) SetFound(result, c->head());
}

void QueueTail(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Queue* c = Find<CDS_Queue>(rt, a[0])) SetFound(result, c->tail());
}

// Lists

void ListAdd(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->add(a[1]);
}

void ListInsert(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->insert(Int(a[1]), a[2]);
}

void ListReplace(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->replace(Int(a[1]), a[2]);
}

void ListDelete(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->erase(Int(a[1]));
}

void ListFindIndex(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_List* c = Find<CDS_List>(rt, a[0])) {
    SetReal(result, static_cast<double>(c->find(a[1], rt.ds.order)));
  }
}

void ListFindValue(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_List* c = Find<CDS_List>(rt, a[0])) SetFound(result, c->at(Int(a[1])));
}

void ListSort(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->sort(Truth(a[1]), rt.ds.order);
}

void ListShuffle(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_List* c = Find<CDS_List>(rt, a[0])) c->shuffle(rt.random);
}

// Maps

void MapAdd(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Map* c = Find<CDS_Map>(rt, a[0])) c->add(a[1], a[2], rt.ds.order);
}

void MapReplace(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Map* c = Find<CDS_Map>(rt, a[0])) {
    if (RValue* value = c->find(a[1], rt.ds.order)) *value = a[2];
  }
}

void MapDelete(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Map* c = Find<CDS_Map>(rt, a[0])) c->erase(a[1], rt.ds.order);
}

void MapExists(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (CDS_Map* c = Find<CDS_Map>(rt, a[0])) SetReal(result, c->find(a[1], rt.ds.order) ? 1 : 0);
}

void MapFindValue(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (CDS_Map* c = Find<CDS_Map>(rt, a[0])) SetFound(result, c->find(a[1], rt.ds.order));
}

void MapFindPrevious(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Map* c = Find<CDS_Map>(rt, a[0])) {
    SetFound(result, c->previousKey(a[1], rt.ds.order));
  }
}

void MapFindNext(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Map* c = Find<CDS_Map>(rt, a[0])) SetFound(result, c->nextKey(a[1], rt.ds.order));
}

void MapFindFirst(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Map* c = Find<CDS_Map>(rt, a[0])) SetFound(result, c->firstKey());
}

void MapFindLast(Runtime& rt, RValue& result, const FunctionArgs& a) {
  if (const CDS_Map* c = Find<CDS_Map>(rt, a[0])) SetFound(result, c->lastKey());
}

// Priority queues

void PriorityAdd(Runtime& rt, RValue&, const FunctionArgs& a) {
  if (CDS_Priority* c = Find<CDS_Priority>(rt, a[0])) c->add(a[1], a[2]);
}

void PriorityChange(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Priority* c = Find<CDS_Priority>(rt, a[0]);
  if (!c) return;
  const std::int64_t i = c->find(a[1], rt.ds.order);
  if (i >= 0) c->setPriority(static_cast<std::size_t>(i), a[2]);
}

void PriorityFindPriority(Runtime& rt, RValue& result, const FunctionArgs& a) {
  const CDS_Priority* c = Find<CDS_Priority>(rt, a[0]);
  if (!c) return;
  const std::int64_t i = c->find(a[1], rt.ds.order);
  if (i >= 0) result = c->priorityAt(static_cast<std::size_t>(i));
}

void PriorityDeleteValue(Runtime& rt, RValue&, const FunctionArgs& a) {
  CDS_Priority* c = Find<CDS_Priority>(rt, a[0]);
  if (!c) return;
  const std::int64_t i = c->find(a[1], rt.ds.order);
  if (i >= 0) c->removeAt(static_cast<std::size_t>(i));
}

// The value of the smallest (Sign −1) or largest (Sign 1) priority; the
// delete functions remove its pair as well.
template <int Sign, bool Remove>
void PriorityExtreme(Runtime& rt, RValue& result, const FunctionArgs& a) {
  CDS_Priority* c = Find<CDS_Priority>(rt, a[0]);
  if (!c) return;
  const std::int64_t i = Sign < 0 ? c->findMin(rt.ds.order) : c->findMax(rt.ds.order);
  if (i < 0) return;
  const auto at = static_cast<std::size_t>(i);
  result = Remove ? c->removeAt(at) : c->valueAt(at);
}

constexpr FunctionDef kFunctions[] = {
    {"ds_set_precision", Adapt<SetPrecision>},

    {"ds_stack_create", Adapt<Create<CDS_Stack>>},
    {"ds_stack_destroy", Adapt<Destroy<CDS_Stack>>},
    {"ds_stack_clear", Adapt<Clear<CDS_Stack>>},
    {"ds_stack_copy", Adapt<Copy<CDS_Stack>>},
    {"ds_stack_size", Adapt<Size<CDS_Stack>>},
    {"ds_stack_empty", Adapt<Empty<CDS_Stack>>},
    {"ds_stack_push", Adapt<StackPush>},
    {"ds_stack_pop", Adapt<StackPop>},
    {"ds_stack_top", Adapt<StackTop>},
    {"ds_stack_write", Adapt<Write<CDS_Stack>>},
    {"ds_stack_read", Adapt<Read<CDS_Stack>>},

    {"ds_queue_create", Adapt<Create<CDS_Queue>>},
    {"ds_queue_destroy", Adapt<Destroy<CDS_Queue>>},
    {"ds_queue_clear", Adapt<Clear<CDS_Queue>>},
    {"ds_queue_copy", Adapt<Copy<CDS_Queue>>},
    {"ds_queue_size", Adapt<Size<CDS_Queue>>},
    {"ds_queue_empty", Adapt<Empty<CDS_Queue>>},
    {"ds_queue_enqueue", Adapt<QueueEnqueue>},
    {"ds_queue_dequeue", Adapt<QueueDequeue>},
    {"ds_queue_head", Adapt<QueueHead>},
    {"ds_queue_tail", Adapt<QueueTail>},
    {"ds_queue_write", Adapt<Write<CDS_Queue>>},
    {"ds_queue_read", Adapt<Read<CDS_Queue>>},

    {"ds_list_create", Adapt<Create<CDS_List>>},
    {"ds_list_destroy", Adapt<Destroy<CDS_List>>},
    {"ds_list_clear", Adapt<Clear<CDS_List>>},
    {"ds_list_copy", Adapt<Copy<CDS_List>>},
    {"ds_list_size", Adapt<Size<CDS_List>>},
    {"ds_list_empty", Adapt<Empty<CDS_List>>},
    {"ds_list_add", Adapt<ListAdd>},
    {"ds_list_insert", Adapt<ListInsert>},
    {"ds_list_replace", Adapt<ListReplace>},
    {"ds_list_delete", Adapt<ListDelete>},
    {"ds_list_find_index", Adapt<ListFindIndex>},
    {"ds_list_find_value", Adapt<ListFindValue>},
    {"ds_list_sort", Adapt<ListSort>},
    {"ds_list_shuffle", Adapt<ListShuffle>},
    {"ds_list_write", Adapt<Write<CDS_List>>},
    {"ds_list_read", Adapt<Read<CDS_List>>},

    {"ds_map_create", Adapt<Create<CDS_Map>>},
    {"ds_map_destroy", Adapt<Destroy<CDS_Map>>},
    {"ds_map_clear", Adapt<Clear<CDS_Map>>},
    {"ds_map_copy", Adapt<Copy<CDS_Map>>},
    {"ds_map_size", Adapt<Size<CDS_Map>>},
    {"ds_map_empty", Adapt<Empty<CDS_Map>>},
    {"ds_map_add", Adapt<MapAdd>},
    {"ds_map_replace", Adapt<MapReplace>},
    {"ds_map_delete", Adapt<MapDelete>},
    {"ds_map_exists", Adapt<MapExists>},
    {"ds_map_find_value", Adapt<MapFindValue>},
    {"ds_map_find_previous", Adapt<MapFindPrevious>},
    {"ds_map_find_next", Adapt<MapFindNext>},
    {"ds_map_find_first", Adapt<MapFindFirst>},
    {"ds_map_find_last", Adapt<MapFindLast>},
    {"ds_map_write", Adapt<Write<CDS_Map>>},
    {"ds_map_read", Adapt<Read<CDS_Map>>},

    {"ds_priority_create", Adapt<Create<CDS_Priority>>},
    {"ds_priority_destroy", Adapt<Destroy<CDS_Priority>>},
    {"ds_priority_clear", Adapt<Clear<CDS_Priority>>},
    {"ds_priority_copy", Adapt<Copy<CDS_Priority>>},
    {"ds_priority_size", Adapt<Size<CDS_Priority>>},
    {"ds_priority_empty", Adapt<Empty<CDS_Priority>>},
    {"ds_priority_add", Adapt<PriorityAdd>},
    {"ds_priority_change_priority", Adapt<PriorityChange>},
    {"ds_priority_find_priority", Adapt<PriorityFindPriority>},
    {"ds_priority_delete_value", Adapt<PriorityDeleteValue>},
    {"ds_priority_delete_min", Adapt<PriorityExtreme<-1, true>>},
    {"ds_priority_find_min", Adapt<PriorityExtreme<-1, false>>},
    {"ds_priority_delete_max", Adapt<PriorityExtreme<1, true>>},
    {"ds_priority_find_max", Adapt<PriorityExtreme<1, false>>},
    {"ds_priority_write", Adapt<Write<CDS_Priority>>},
    {"ds_priority_read", Adapt<Read<CDS_Priority>>},
};

}  // namespace

std::span<const FunctionDef> DataStructureFunctions() {
  static const std::vector<FunctionDef> all = [] {
    std::vector<FunctionDef> defs(std::begin(kFunctions), std::end(kFunctions));
    const std::span<const FunctionDef> grid = GridFunctions();
    defs.insert(defs.end(), grid.begin(), grid.end());
    return defs;
  }();
  return all;
}

}  // namespace px
