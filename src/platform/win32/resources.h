/* Resource numbers, shared by the resource script and the code. */
#pragma once

#define KORVALE_ICON 101
