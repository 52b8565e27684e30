#pragma once
// What profiles/ offers: the profile data objects of every device kind, the
// records they decode, and the JSON and text routines the program uses for its
// files.

#include "profiles/BasicProfiledata.h"      // CBasicProfiledata (also the mouse pad's)
#include "profiles/JsonFile.h"              // readjsonFile, LoadJsonFile, SaveJsonFile
#include "profiles/KeyboardProfiledata.h"   // CKeyboardProfiledata
#include "profiles/MouseProfiledata.h"      // CMouseProfiledata
#include "profiles/ProfileFolders.h"        // profile and default data folders
#include "profiles/ProfileList.h"           // ProfileList.ini and its operations
#include "profiles/ProfileRecords.h"        // the byte records
#include "profiles/Ru6533Profiledata.h"     // CRu6533Profiledata (headset)
#include "profiles/Text.h"                  // Utf8ToWide, NewProfileId, ...
