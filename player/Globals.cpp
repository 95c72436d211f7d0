// Player-wide values.
