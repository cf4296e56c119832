/* Resource numbers, shared by the resource script and the code. */
#ifndef KORVALE_PLATFORM_WIN32_RESOURCES_H
#define KORVALE_PLATFORM_WIN32_RESOURCES_H

#define KORVALE_ICON 101

#endif
