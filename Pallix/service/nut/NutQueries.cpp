#include "NutQueries.h"

#include "NutWords.h"

#include <algorithm>
#include <span>
#include <string_view>

namespace {

using Words = std::vector<std::string>;
using Reply = std::vector<std::string>;

constexpr std::string_view StatusVariable = "ups.status";

// args: the UPS as the client wrote it first, then the rest.
using Answer = Reply (*)(const Words &args, const NutView &view);

struct Query {
    std::string_view name;
    std::size_t argCount;   // the UPS included
    bool namesUps;
    Answer answer;
};

const NutVariable *findVariable(const NutView &view, std::string_view name)
{
    const auto found = std::ranges::find_if(
        view.ups.variables, [name](const NutVariable &v) { return sameNutName(v.name, name); });
    return found == view.ups.variables.end() ? nullptr : &*found;
}

bool isForcedStatus(const NutVariable &variable, const NutView &view)
{
    return view.forcedShutdown && sameNutName(variable.name, StatusVariable);
}

std::string valueOf(const NutVariable &variable, const NutView &view)
{
    if (!isForcedStatus(variable, view)) return variable.value;
    return variable.value.empty() ? "FSD" : "FSD " + variable.value;
}

std::string upsDescription(const NutView &view)
{
    return quoteNutValue(view.ups.description.empty() ? "Unavailable" : view.ups.description);
}

// BEGIN LIST ..., the items, END LIST ...
Reply listed(std::string_view kind, const std::string &ups, Reply items)
{
    const std::string what = std::string(kind) + (ups.empty() ? "" : " " + ups);
    items.insert(items.begin(), "BEGIN LIST " + what);
    items.push_back("END LIST " + what);
    return items;
}

Reply getVar(const Words &a, const NutView &view)
{
    const NutVariable *variable = findVariable(view, a[1]);
    // A secondary must learn of a shutdown even when the device went quiet.
    if (view.ups.stale && !(variable && isForcedStatus(*variable, view)))
        return {nutError("DATA-STALE")};
    if (!variable) return {nutError("VAR-NOT-SUPPORTED")};
    return {"VAR " + a[0] + ' ' + a[1] + ' ' + quoteNutValue(valueOf(*variable, view))};
}

Reply getNumLogins(const Words &a, const NutView &view)
{
    return {"NUMLOGINS " + a[0] + ' ' + std::to_string(view.clients.size())};
}

Reply getUpsDesc(const Words &a, const NutView &view)
{
    return {"UPSDESC " + a[0] + ' ' + upsDescription(view)};
}

Reply getDesc(const Words &a, const NutView &view)
{
    const NutVariable *variable = findVariable(view, a[1]);
    if (!variable) return {nutError("VAR-NOT-SUPPORTED")};
    return {"DESC " + a[0] + ' ' + a[1] + ' ' + quoteNutValue(variable->description)};
}

Reply getType(const Words &a, const NutView &view)
{
    const NutVariable *variable = findVariable(view, a[1]);
    if (!variable) return {nutError("VAR-NOT-SUPPORTED")};
    return {"TYPE " + a[0] + ' ' + a[1] + ' ' + variable->type};
}

// Read-only: the UPS has no instant commands.
Reply getCmdDesc(const Words &, const NutView &) { return {nutError("CMD-NOT-SUPPORTED")}; }

Reply listUps(const Words &, const NutView &view)
{
    return listed("UPS", {}, {"UPS " + view.settings.upsName + ' ' + upsDescription(view)});
}

Reply listVar(const Words &a, const NutView &view)
{
    if (view.ups.stale) return {nutError("DATA-STALE")};
    Reply items;
    for (const NutVariable &variable : view.ups.variables)
        items.push_back("VAR " + a[0] + ' ' + variable.name + ' '
                        + quoteNutValue(valueOf(variable, view)));
    return listed("VAR", a[0], std::move(items));
}

Reply listClient(const Words &a, const NutView &view)
{
    Reply items;
    for (const std::string &client : view.clients)
        items.push_back("CLIENT " + a[0] + ' ' + client);
    return listed("CLIENT", a[0], std::move(items));
}

Reply listCmd(const Words &a, const NutView &) { return listed("CMD", a[0], {}); }
Reply listRw(const Words &a, const NutView &) { return listed("RW", a[0], {}); }

constexpr Query GetQueries[] = {
    {"VAR", 2, true, getVar},         {"NUMLOGINS", 1, true, getNumLogins},
    {"UPSDESC", 1, true, getUpsDesc}, {"DESC", 2, true, getDesc},
    {"TYPE", 2, true, getType},       {"CMDDESC", 2, true, getCmdDesc},
};

constexpr Query ListQueries[] = {
    {"UPS", 0, false, listUps}, {"VAR", 1, true, listVar}, {"CLIENT", 1, true, listClient},
    {"CMD", 1, true, listCmd},  {"RW", 1, true, listRw},
};

Reply answer(std::span<const Query> queries, const Words &args, const NutView &view)
{
    if (args.empty()) return {nutError("INVALID-ARGUMENT")};
    const auto query = std::ranges::find_if(
        queries, [&args](const Query &q) { return sameNutName(q.name, args.front()); });
    if (query == queries.end() || args.size() - 1 != query->argCount)
        return {nutError("INVALID-ARGUMENT")};
    const Words rest(args.begin() + 1, args.end());
    if (query->namesUps && !sameNutName(rest.front(), view.settings.upsName))
        return {nutError("UNKNOWN-UPS")};
    return query->answer(rest, view);
}

}   // namespace

Reply answerGet(const Words &args, const NutView &view) { return answer(GetQueries, args, view); }

Reply answerList(const Words &args, const NutView &view) { return answer(ListQueries, args, view); }
