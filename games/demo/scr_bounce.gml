// Turns the ball around at the edges of the room.
if (x < 16 || x > room_width - 16) hspeed = -hspeed;
if (y < 16 || y > room_height - 16) vspeed = -vspeed;
