// The picture codecs as one plug-in set: JPEG first, then PNG.
#pragma once

// Joins the codec registrations (JPEG decoder, JPEG encoder, PNG decoder,
// PNG encoder, in that order) to the runtime's start-up.
void codecs_join_runtime();

// Registers all four now (for programs and tests that start the tables themselves).
void codecs_use_all();
