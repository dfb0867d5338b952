// What the graphics platform offers, probed once at start-up: the per-pixel
// alpha blend service and whether themed common controls are in use.
#pragma once

// The entry point, untyped here; the drawing code that calls it knows its type.
using AlphaBlendService = void*;

void graphics_probe_start();
void graphics_probe_release();

// The alpha blend entry of msimg32, or null when the platform has none.
AlphaBlendService graphics_alpha_blend();
// True when visual styles are active (uxtheme says so and common controls are version 6+).
bool graphics_visual_styles();

// The common controls' version as major * 65536 + minor (1 when it cannot be
// told); asked afresh.
long graphics_common_controls_version();
