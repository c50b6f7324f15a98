#pragma once
// The game's start-up: fills the shared data from ymconfig.ini and shows the
// main menu.

// Runs the start-up steps in their fixed order. Returns false when the
// program cannot run because ymconfig.ini is missing; the user has then been
// told and no window is open.
bool StartUp();
