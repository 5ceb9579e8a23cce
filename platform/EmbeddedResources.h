// The resources built into the executable: the course definition "TFORM1" and the icon "MAINICON".
#pragma once

void RegisterEmbeddedResources();
