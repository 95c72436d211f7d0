#pragma once
// The player's hot keys on the keyboard's input states.
class TZRNKeyboard;

// Each call replaces all three keys of a state with the one key given; the arrow states keep
// their defaults.
void BindHotKeys(TZRNKeyboard& keyboard);
