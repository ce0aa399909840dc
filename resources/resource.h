/* Resource identifiers shared by the programs' resource scripts and their code. */
#ifndef RESOURCES_RESOURCE_H
#define RESOURCES_RESOURCE_H

#define IDI_PROGRAM    1   /* program and window icon */
#define IDI_RBF_BUTTON 101 /* picture of the right-button tool's button */
#define IDI_REMOVAL    102 /* the uninstaller's warning picture */

#endif
