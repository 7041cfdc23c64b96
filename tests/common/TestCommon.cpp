// Shared test helpers live here (the sandbox launcher and friends).
