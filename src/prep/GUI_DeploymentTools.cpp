#include "prep/GUI_DeploymentTools.h"

GUI_DeploymentTools& GUI_DeploymentTools::GetInstance()
{
    static GUI_DeploymentTools instance;
    return instance;
}

void GUI_DeploymentTools::ApplyGroupOrder(const std::string& orderName)
{
    ++groupOrderRequests;
    lastGroupOrder = orderName;
}

void GUI_DeploymentTools::Pick(GUI_DeploymentIcon*)
{
    pickMode = 0;
}
