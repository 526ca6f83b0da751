/* The template of the packages the fixtures write: a real 32-bit DLL without a runtime whose
   imports are placeholders, renamed by PackageImage. Built by the i686 toolchain. */

#ifdef QV_PLACEHOLDER_IMPORTS
__declspec(dllimport) int qv_import_1(void);
__declspec(dllimport) int qv_import_2(void);
__declspec(dllimport) int qv_import_3(void);
__declspec(dllimport) int qv_import_4(void);
__declspec(dllimport) int qv_import_5(void);
__declspec(dllimport) int qv_import_6(void);
__declspec(dllimport) int qv_import_7(void);
__declspec(dllimport) int qv_import_8(void);

__declspec(dllexport) int QvTouchImports(void) {
    return qv_import_1() + qv_import_2() + qv_import_3() + qv_import_4() + qv_import_5() + qv_import_6() +
           qv_import_7() + qv_import_8();
}
#endif

int __stdcall QvPackageEntry(void* module, unsigned long reason, void* reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return 1;
}
