# Drives vorndesigner through a short session and through its errors. Expects DESIGNER,
# SAMPLEGEN, VERSION and WORK_DIR.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
set(form ${WORK_DIR}/form.json)

# Runs the designer; expect_status is 0 or "fail".
function(designer expect_status)
    execute_process(COMMAND ${DESIGNER} ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out
                    ERROR_VARIABLE err)
    if(expect_status STREQUAL "fail")
        if(status EQUAL 0)
            message(FATAL_ERROR "vorndesigner ${ARGN} succeeded but should have failed")
        endif()
    elseif(NOT status EQUAL 0)
        message(FATAL_ERROR "vorndesigner ${ARGN} failed (${status}): ${err}")
    endif()
    set(out "${out}" PARENT_SCOPE)
    set(err "${err}" PARENT_SCOPE)
endfunction()

function(expect_in text wanted)
    string(FIND "${text}" "${wanted}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "Expected to find\n${wanted}\nin\n${text}")
    endif()
endfunction()

designer(0 --help)
expect_in("${out}" "usage: vorndesigner")
designer(0 --version)
expect_in("${out}" "vorndesigner ${VERSION}\n")
designer(0 packages)
expect_in("${out}" "VornData ${VERSION} (file version 1.0.0.4, language 040904E4)")
expect_in("${out}" "VornDataDesign ${VERSION} (file version 1.0.0.0, language 040904E4) design-only")

designer(0 palette)
expect_in("${out}" "Vorn\n  TDBSortComboBox\n  TDBLocateEdit\n  TDBGridTitleSort\n  TDBFilterGrid\n  TDBFieldComboBox\n")
designer(0 palette TDBGridTitleSort ${WORK_DIR}/sorter.png)
file(READ ${WORK_DIR}/sorter.png signature LIMIT 8 HEX)
if(NOT signature STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "The palette image is no PNG file: ${signature}")
endif()
designer(fail palette TDBGridTitleSort ${WORK_DIR}/sorter.gif)
expect_in("${err}" "must end in .png or .bmp")

designer(0 new ${form} DesignedForm)
designer(fail new ${form} OtherForm)
expect_in("${err}" "already exists")
designer(0 add ${form} TDBGrid)
designer(0 add ${form} TDataSource)
designer(0 add ${form} TDBGridTitleSort)
designer(0 add ${form} TDBGridTitleSort)
expect_in("${out}" "DBGridTitleSort2")
designer(0 set ${form} DataSource DataSource1 DBGrid1)
designer(0 set ${form} ClickedTitleMask "%t (%i)" DBGridTitleSort1 DBGridTitleSort2)
designer(0 properties ${form} DBGridTitleSort1 DBGridTitleSort2)
expect_in("${out}" "ClickedTitleMask = %t (%i)\n  editor TDBGridTitleSortMaskProperty, attributes 137 (paValueList, paMultiSelect, paRevertable)\n  values: \"%t (sorted)\" \"%t %s\" \"%t (%i)\" \"%i: %t\"\n")

# Controls sit on the form, or on the windowed control named; Parent can be set.
designer(0 properties ${form} DBGrid1)
expect_in("${out}" "Parent = DesignedForm\n")
designer(0 add ${form} TEdit Holder)
designer(0 add ${form} TDBSortComboBox SortCombo Holder)
designer(0 properties ${form} SortCombo)
expect_in("${out}" "Parent = Holder\n")
designer(0 set ${form} Parent DesignedForm SortCombo)
designer(0 properties ${form} SortCombo)
expect_in("${out}" "Parent = DesignedForm\n")
# One property on components of different classes that each publish it.
designer(0 set ${form} DataSource DataSource1 DBGrid1 SortCombo)
designer(0 properties ${form} DBGrid1 SortCombo)
expect_in("${out}" "DataSource = DataSource1\n")
# Colours by name and by number, shown by name where they have one.
foreach(case "clRed;clRed" "clbtnface;clBtnFace" "12648447;12648447" "255;clRed")
    list(GET case 0 typed)
    list(GET case 1 shown)
    designer(0 set ${form} ClickedTitleColor ${typed} DBGridTitleSort1)
    designer(0 properties ${form} DBGridTitleSort1)
    expect_in("${out}" "ClickedTitleColor = ${shown}\n  editor TColorProperty")
endforeach()

# Errors say what was wrong, exit non-zero and leave the form file as it was.
file(READ ${form} before)
foreach(case "add;TNoSuchClass;Class TNoSuchClass not found"
             "set;Colour;1;DBGrid1;has no published property Colour"
             "set;UnSort;maybe;DBGridTitleSort1;Invalid value \"maybe\" for property UnSort"
             "set;DataSource;Nowhere;DBGrid1;Invalid value \"Nowhere\" for property DataSource"
             "set;Name;Twin;DBGridTitleSort1;DBGridTitleSort2;Property Name cannot be edited on 2 components at once"
             "set;ClickedTitleColor;clNoSuch;DBGridTitleSort1;neither a colour name (clRed, clBtnFace) nor a whole number"
             "set;Parent;DataSource1;DBGrid1;Component DataSource1 is no windowed control and cannot hold controls"
             "set;Parent;DesignedForm;DataSource1;Component DataSource1 is no control and has no parent"
             "set;UnSort;True;DBGridTitleSort1;DBGrid1;Component DBGrid1 (TDBGrid) has no published property UnSort"
             "add;TDataSource;Extra;DesignedForm;A TDataSource is no control and has no parent"
             "add;TDBGrid;Extra;Nowhere;Form DesignedForm has no component named Nowhere")
    list(POP_BACK case message)
    list(POP_FRONT case command)
    designer(fail ${command} ${form} ${case})
    expect_in("${err}" "${message}")
    file(READ ${form} after)
    if(NOT after STREQUAL before)
        message(FATAL_ERROR "vorndesigner ${command} ${case} changed the form file")
    endif()
endforeach()

# A database alias given for the run lets a table be opened in the designer.
execute_process(COMMAND ${SAMPLEGEN} --customers 5 ${WORK_DIR}/shop.db OUTPUT_QUIET
                RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "samplegen could not write the sample database")
endif()
designer(0 add ${form} TTable Customers)
designer(0 set ${form} DatabaseName Shop Customers)
designer(0 set ${form} TableName customer Customers)
designer(fail set ${form} Active True Customers)
expect_in("${err}" "Unknown database alias 'Shop'")
designer(fail --sqlite Shop set ${form} Active True Customers)
expect_in("${err}" "--sqlite needs ALIAS=PATH, not \"Shop\"")
designer(0 --sqlite Shop=${WORK_DIR}/shop.db set ${form} Active True Customers)
designer(0 --sqlite Shop=${WORK_DIR}/shop.db properties ${form} Customers)
expect_in("${out}" "Active = True\n")

file(GLOB leftovers ${WORK_DIR}/*.tmp ${WORK_DIR}/*~)
if(leftovers)
    message(FATAL_ERROR "Temporary files were left behind: ${leftovers}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
