#include "host/components/model/Strings.h"

#include "host/components/model/List.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vorn;

namespace {

std::vector<std::string> Contents(const TStrings& List) {
    std::vector<std::string> Result;
    for (int Index = 0; Index < List.Count(); ++Index)
        Result.push_back(List.Strings(Index));
    return Result;
}

void Fill(TStrings& List, const std::vector<std::string>& Lines) {
    for (const std::string& Line : Lines)
        List.Add(Line);
}

struct StringListFixture : ::testing::Test {
    TStringList List;
    int Changes = 0;
    void SetUp() override {
        List.OnChange = [this](TObject* Sender) {
            EXPECT_EQ(Sender, &List);
            ++Changes;
        };
    }
};

TEST_F(StringListFixture, EditingKeepsStringsAndObjectsTogether) {
    TObject First, Second;
    List.AddObject("b", &Second);
    List.InsertObject(0, "a", &First);
    List.Insert(2, "c"); // at Count: appends
    List.Append("d");
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(List.Objects(0), &First);
    EXPECT_EQ(List.Objects(1), &Second);
    EXPECT_EQ(List.Objects(2), nullptr);
    EXPECT_EQ(List.IndexOfObject(&Second), 1);

    List.Delete(0);
    List.SetString(2, "D");
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"b", "c", "D"}));
    EXPECT_EQ(List.Objects(0), &Second);
    EXPECT_EQ(Changes, 6);
}

TEST_F(StringListFixture, IndexErrorsNameTheIndexAndChangeNothing) {
    const std::pair<std::string, std::function<void(TStringList&)>> Cases[] = {
        {"(-1)", [](TStringList& L) { L.Strings(-1); }},
        {"(2)", [](TStringList& L) { L.Strings(2); }},
        {"(2)", [](TStringList& L) { L.SetString(2, "x"); }},
        {"(2)", [](TStringList& L) { L.Objects(2); }},
        {"(5)", [](TStringList& L) { L.SetObject(5, nullptr); }},
        {"(2)", [](TStringList& L) { L.Delete(2); }},
        {"(3)", [](TStringList& L) { L.Insert(3, "x"); }},
        {"(-1)", [](TStringList& L) { L.InsertObject(-1, "x", nullptr); }},
    };
    Fill(List, {"a", "b"});
    Changes = 0;
    for (const auto& [Fragment, Operation] : Cases) {
        SCOPED_TRACE(Fragment);
        try {
            Operation(List);
            ADD_FAILURE() << "no EListError";
        } catch (const EListError& Error) {
            EXPECT_EQ(Error.Message(), "List index out of bounds " + Fragment);
        }
        EXPECT_EQ(Contents(List), (std::vector<std::string>{"a", "b"}));
        EXPECT_EQ(List.UpdateCount(), 0);
    }
    EXPECT_EQ(Changes, 0);
}

TEST_F(StringListFixture, OnChangeFiresOncePerChangeOrBatch) {
    struct TCase {
        const char* Name;
        std::function<void(TStringList&)> Operation;
        int ExpectedChanges;
    };
    TStringList Other;
    Fill(Other, {"x", "y", "z"});
    const TCase Cases[] = {
        {.Name = "Add", .Operation = [](TStringList& L) { L.Add("new"); }, .ExpectedChanges = 1},
        {.Name = "SetText",
         .Operation = [](TStringList& L) { L.SetText("1\n2\n3\n"); },
         .ExpectedChanges = 1},
        {.Name = "Assign",
         .Operation = [&](TStringList& L) { L.Assign(&Other); },
         .ExpectedChanges = 1},
        {.Name = "AddStrings",
         .Operation = [&](TStringList& L) { L.AddStrings(Other); },
         .ExpectedChanges = 1},
        {.Name = "Sort", .Operation = [](TStringList& L) { L.Sort(); }, .ExpectedChanges = 1},
        {.Name = "Clear", .Operation = [](TStringList& L) { L.Clear(); }, .ExpectedChanges = 1},
        {.Name = "batch",
         .Operation =
             [](TStringList& L) {
                 L.BeginUpdate();
                 L.Add("1");
                 L.BeginUpdate();
                 L.Delete(0);
                 L.EndUpdate();
                 L.SetString(0, "2");
                 L.EndUpdate();
             },
         .ExpectedChanges = 1},
        {.Name = "empty batch",
         .Operation =
             [](TStringList& L) {
                 L.BeginUpdate();
                 L.EndUpdate();
             },
         .ExpectedChanges = 0},
        {.Name = "same string",
         .Operation = [](TStringList& L) { L.SetString(0, L.Strings(0)); },
         .ExpectedChanges = 0},
        {.Name = "assign self",
         .Operation = [](TStringList& L) { L.Assign(&L); },
         .ExpectedChanges = 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        List.OnChange = nullptr;
        List.Clear();
        Fill(List, {"c", "a", "b"});
        Changes = 0;
        List.OnChange = [this](TObject*) { ++Changes; };
        Case.Operation(List);
        EXPECT_EQ(Changes, Case.ExpectedChanges);
    }
}

TEST_F(StringListFixture, EndUpdateWithoutBeginUpdateRaises) {
    EXPECT_THROW(List.EndUpdate(), EListError);
    List.BeginUpdate();
    List.EndUpdate();
    EXPECT_THROW(List.EndUpdate(), EListError);
    EXPECT_EQ(List.UpdateCount(), 0);
}

TEST(StringList, SortIsStableAndPutsEqualStringsTogether) {
    TStringList List;
    TObject Objects[6];
    const char* Lines[] = {"b", "A", "a", "B", "a", "c"};
    for (int Index = 0; Index < 6; ++Index)
        List.AddObject(Lines[Index], &Objects[Index]);
    List.Sort();
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"A", "a", "a", "b", "B", "c"}));
    const TObject* Expected[] = {&Objects[1], &Objects[2], &Objects[4],
                                 &Objects[0], &Objects[3], &Objects[5]};
    for (int Index = 0; Index < 6; ++Index)
        EXPECT_EQ(List.Objects(Index), Expected[Index]) << Index;

    List.SetCaseSensitive(true);
    List.Sort();
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"A", "B", "a", "a", "b", "c"}));
}

TEST(StringList, ComparisonFoldsOnlyAsciiLettersAndTreatsBytesAsUnsigned) {
    // 0xC8 and 0xE8 are an upper- and lower-case letter in Windows-1250: bytes, not ASCII.
    TStringList List;
    Fill(List, {"\xC8", "z", "Apple", "apple pie", "Z"});
    EXPECT_EQ(List.IndexOf("APPLE"), 2);
    EXPECT_EQ(List.IndexOf("z"), 1);
    EXPECT_EQ(List.IndexOf("\xE8"), -1);
    EXPECT_EQ(List.IndexOf("apple"), 2);
    EXPECT_EQ(List.IndexOf("appl"), -1);

    List.Sort();
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"Apple", "apple pie", "z", "Z", "\xC8"}));

    List.SetCaseSensitive(true);
    EXPECT_EQ(List.IndexOf("APPLE"), -1);
    EXPECT_EQ(List.IndexOf("Z"), 3);
}

TEST(StringList, UnderUtf8WholeCharactersSortByCodePointWithCaseFolded) {
    // é U+00E9, Ā U+0100, 王 U+738B, 😀 U+1F600; "\xFF" is a malformed byte.
    const std::string EAcute = "\xC3\xA9";
    const std::string AMacron = "\xC4\x80";
    const std::string Wang = "\xE7\x8E\x8B";
    const std::string Smile = "\xF0\x9F\x98\x80";
    TStringList List;
    Fill(List, {Smile, "\xFF", Wang + "b", AMacron, "z" + EAcute, EAcute, "Z", Wang + "B",
                "Z" + EAcute + "a", "e"});

    List.Sort();

    EXPECT_EQ(Contents(List),
              (std::vector<std::string>{"e", "Z", "z" + EAcute, "Z" + EAcute + "a", EAcute, AMacron,
                                        Wang + "b", Wang + "B", Smile, "\xFF"}));
    EXPECT_EQ(List.IndexOf(Wang + "B"), 6);
    EXPECT_EQ(List.IndexOf("\xC3\x89"), 4); // É finds é
}

TEST(StringList, TextTerminatesEveryLineAndReadsAnyLineBreak) {
    const std::pair<std::vector<std::string>, std::string> Written[] = {
        {{}, ""},
        {{""}, "\n"},
        {{"a", "b"}, "a\nb\n"},
        {{"a", "", "b", ""}, "a\n\nb\n\n"},
    };
    for (const auto& [Lines, Text] : Written) {
        SCOPED_TRACE(Text);
        TStringList List;
        Fill(List, Lines);
        EXPECT_EQ(List.Text(), Text);
        TStringList Copy;
        Copy.SetText(Text);
        EXPECT_EQ(Contents(Copy), Lines);
    }

    const std::pair<std::string, std::vector<std::string>> Read[] = {
        {"a\r\nb\r\n", {"a", "b"}}, {"a\rb", {"a", "b"}},       {"a\n\r\nb", {"a", "", "b"}},
        {"a\r\rb", {"a", "", "b"}}, {"no break", {"no break"}},
    };
    for (const auto& [Text, Lines] : Read) {
        SCOPED_TRACE(Text);
        TStringList List;
        Fill(List, {"old"});
        List.SetText(Text);
        EXPECT_EQ(Contents(List), Lines);
    }
}

TEST(StringList, AssignAndAddStringsCopyObjectsAndSurviveSelfReference) {
    TObject Tag;
    TStringList Source;
    Source.AddObject("one", &Tag);
    Source.Add("two");

    TStringList Target;
    Fill(Target, {"old"});
    Target.Assign(&Source);
    EXPECT_EQ(Contents(Target), (std::vector<std::string>{"one", "two"}));
    EXPECT_EQ(Target.Objects(0), &Tag);

    Target.AddStrings(Target);
    EXPECT_EQ(Contents(Target), (std::vector<std::string>{"one", "two", "one", "two"}));
    EXPECT_EQ(Target.Objects(2), &Tag);

    TPersistent NotStrings;
    EXPECT_THROW(Target.Assign(&NotStrings), EConvertError);
    EXPECT_EQ(Target.Count(), 4);
}

TEST(StringList, CapacityIsCheckedAgainstCount) {
    TStringList List;
    List.SetCapacity(50);
    EXPECT_GE(List.Capacity(), 50);
    Fill(List, {"a", "b", "c"});
    List.SetCapacity(3);
    EXPECT_EQ(List.Capacity(), 3);
    EXPECT_EQ(Contents(List), (std::vector<std::string>{"a", "b", "c"}));
    for (int Bad : {2, -1, MaxListSize + 1}) {
        SCOPED_TRACE(Bad);
        EXPECT_THROW(List.SetCapacity(Bad), EListError);
    }
    EXPECT_EQ(List.Count(), 3);
}

} // namespace
