#pragma once

// Makes every plan apply, check and store itself and compute its 8-part
// overlays through this library's builders (plan/plan_builders.h). Called
// once at start-up, and by the tests that apply plans.
void InstallPlanBuilders();
