// The start-up step in which the later folders register what earlier folders call in them.
#pragma once

// Registers every folder's services; the plug-in calls it once as it starts.
void RegisterPluginServices();
