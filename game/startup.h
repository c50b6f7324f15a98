#pragma once
// The game's start-up: shows the main menu and fills the shared data from
// ymconfig.ini.

// Shows the menu, then runs the start-up steps in their fixed order once the
// other program leaves the files; the menu waits meanwhile, drawn but
// unusable. Returns false when the program cannot run because ymconfig.ini is
// missing; the user has then been told and no window is open.
bool StartUp();
