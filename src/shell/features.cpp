#include "shell/features.h"

#include "document/chart_commands.h"
#include "feature_headers.h"
#include "shell/command_layout.h"

const std::vector<Feature> &features()
{
    // A feature registers here, with one line in this list (the build includes its header).
    static const std::vector<Feature> all = {
        chartCommands(),  watchFeature(),  bookFeature(),
        compareFeature(), importFeature(), reportFeature(),
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
