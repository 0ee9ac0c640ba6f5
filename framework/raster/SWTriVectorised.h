#pragma once

namespace Nubra {

// Whether the span fillers that have a vector form use it: by default whenever the processor
// can (AVX2 on x86-64). Both forms write the same pixels; switching the vector form off is for
// tests and benchmarks.
bool SWTri_VectorisedSpans();
void SWTri_SetVectorisedSpans(bool enabled);

} // namespace Nubra
