// The enabling and checking rules of the action list.
#include "app/action_states.h"

TActionStates ActionStatesOf(const TWindowState& state) {
  TActionStates states;
  states.VerticalChecked = state.OriginalOnTop;
  states.HorizontalChecked = !state.OriginalOnTop;
  states.ZoomEnabled = !state.OriginalEmpty;
  states.RefreshEnabled = !state.OriginalEmpty;
  states.SaveEnabled = !state.ProcessedEmpty;
  const bool batch = state.BatchCount > 0;
  states.FirstPriorEnabled = batch && state.BatchIndex > 0;
  states.NextLastEnabled = batch && state.BatchIndex < state.BatchCount - 1;
  return states;
}
