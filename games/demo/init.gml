// Runs once when the game starts.
global.demo_started = true;
