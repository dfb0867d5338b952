// The host build has no graphics platform: no alpha service, no styles.
#include "runtime/graphics_probe.h"

void graphics_probe_start() {}
void graphics_probe_release() {}
AlphaBlendService graphics_alpha_blend() {
  return nullptr;
}
bool graphics_visual_styles() {
  return false;
}
long graphics_common_controls_version() {
  return 1;
}
