// Resource identifiers shared by the resource script and the code.
#ifndef SETUP_RESOURCE_IDS_H
#define SETUP_RESOURCE_IDS_H
#define IDD_WELCOME 101
#endif
