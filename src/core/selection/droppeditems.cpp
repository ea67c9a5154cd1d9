#include "selection/droppeditems.h"

namespace pilotrame {

DropPlan PlanDrop(const std::vector<DroppedItem>& items) {
    DropPlan plan;
    std::vector<std::string> folders;
    for (const DroppedItem& item : items) {
        if (item.kind == DroppedKind::File)
            plan.files.push_back(item.name);
        else if (item.kind == DroppedKind::Folder)
            folders.push_back(item.name);
    }
    const bool openFolder = plan.files.empty() && folders.size() == 1;
    if (openFolder)
        plan.folder = folders.front();
    for (const DroppedItem& item : items) {
        if (item.kind == DroppedKind::File || (item.kind == DroppedKind::Folder && openFolder))
            continue;
        plan.notTaken.push_back(item);
    }
    return plan;
}

bool AcceptsDrop(const std::vector<DroppedItem>& items) {
    for (const DroppedItem& item : items) {
        if (item.kind == DroppedKind::File || item.kind == DroppedKind::Folder)
            return true;
    }
    return false;
}

std::string DroppedPathText(std::string_view path) {
    if (path.find(' ') == std::string_view::npos)
        return std::string(path);
    return "\"" + std::string(path) + "\"";
}

} // namespace pilotrame
