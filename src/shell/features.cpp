#include "shell/features.h"

#include "book_feature/book_feature.h"
#include "compare_feature/compare_feature.h"
#include "document/chart_commands.h"
#include "shell/command_layout.h"
#include "watch_feature/watch_feature.h"

const std::vector<Feature> &features()
{
    // A feature registers here: its header above and one line in this list.
    static const std::vector<Feature> all = {
        chartCommands(),
        watchFeature(),
        bookFeature(),
        compareFeature(),
    };
    return all;
}

const std::vector<const CommandSpec *> &registeredCommands()
{
    static const std::vector<const CommandSpec *> all = [] {
        std::vector<const CommandSpec *> commands;
        for (const CommandSpec &c : shellCommands())
            commands.push_back(&c);
        for (const Feature &feature : features())
            for (const CommandSpec &c : feature.commands)
                commands.push_back(&c);
        return commands;
    }();
    return all;
}
