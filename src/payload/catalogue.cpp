// The payload catalogue tables. Constant except for dwStatus and nResult of each entry, which
// the install sequence writes.
// Owns: the group arrays behind g_coreFiles, g_explorerFiles, g_utilityFiles, g_commonFiles,
//       g_iniFiles, and g_resourceMap.
// Eight resources of the map are not carried (DLLFILE6, TXTFILE2-5, HLPFILE6, ORDER, LICENSE);
// none of their entries is required or has an icon, so their placement fails quietly.
#include "payload/catalogue.h"

namespace {

FILE_ENTRY s_coreFiles[] = {
    { "vantix32.exe", "vantix32.exe", "VANTIX Pro", 1, 1, 0, 0 },
    { "vxcore32.dll", "vxcore32.dll", "", 0, 1, 0, 0 },
    { "vxcore32.cnt", "VxCore32.cnt", "", 0, 0, 0, 0 },
    { "vxcore32.hlp", "vxcore32.hlp", "VANTIX Pro Help", 1, 1, 0, 0 },
};

FILE_ENTRY s_explorerFiles[] = {
    { "vxshell.dll", "vxshell.dll", "", 0, 1, 0, 0 },
    { "vxshlch.dll", "vxshlch.dll", "", 0, 0, 0, 0 },
    { "vxini.dll", "vxini.dll", "", 0, 0, 0, 0 },
    { "vxshell.cnt", "vxshell.cnt", "", 0, 0, 0, 0 },
    { "vxshell.hlp", "vxshell.hlp", "VANTIX Pro Explorer Help", 1, 0, 0, 0 },
    { "vxshell.txt", "vxshell.txt", "VANTIX Pro Explorer Release Notes", 0, 0, 0, 0 },
};

// Scripting, then Find, then Synchronize.
FILE_ENTRY s_utilityFiles[] = {
    { "vxscript.exe", "vxscript.exe", "VANTIX Scripting Utility", 1, 1, 0, 0 },
    { "vxscript.cnt", "vxscript.cnt", "", 0, 0, 0, 0 },
    { "vxscript.hlp", "vxscript.hlp", "VANTIX Scripting Help", 1, 0, 0, 0 },
    { "vxscript.txt", "vxscript.txt", "VANTIX Scripting Release Notes", 0, 0, 0, 0 },
    { "vxfind.exe", "vxfind.exe", "VANTIX Find Utility", 1, 1, 0, 0 },
    { "vxfind.cnt", "vxfind.cnt", "", 0, 0, 0, 0 },
    { "vxfind.hlp", "vxfind.hlp", "VANTIX Find Help", 1, 0, 0, 0 },
    { "vxfind.txt", "vxfind.txt", "VANTIX Find Release Notes", 0, 0, 0, 0 },
    { "vxsync.exe", "vxsync.exe", "VANTIX Synchronize Utility", 1, 1, 0, 0 },
    { "vxsyncl.dll", "vxsyncl.dll", "", 0, 1, 0, 0 },
    { "vxsync.cnt", "vxsync.cnt", "", 0, 0, 0, 0 },
    { "vxsync.hlp", "vxsync.hlp", "VANTIX Synchronize Help", 1, 0, 0, 0 },
    { "vxsync.txt", "vxsync.txt", "VANTIX Synchronize Release Notes", 0, 0, 0, 0 },
};

FILE_ENTRY s_commonFiles[] = {
    { "vxplace.exe", "vxplace.exe", "VANTIX Pro Icon Placement", 1, 1, 0, 0 },
    { "vxshim.dll", "vxshim.dll", "", 0, 1, 0, 0 },
    { "vxremove.exe", "vxremove.exe", "Uninstall VANTIX Pro", 1, 0, 0, 0 },
    { "VxNotes.txt", "VxNotes.txt", "VANTIX Pro Release Notes", 1, 0, 0, 0 },
    { "vxplace.hlp", "vxplace.hlp", "", 0, 0, 0, 0 },
    { "vxcore32.pdf", "vxcore32.pdf", "VANTIX Pro Manual", 1, 0, 0, 0 },
    { "vxorder.wri", "vxorder.wri", "", 0, 0, 0, 0 },
    { "vxterms.wri", "vxterms.wri", "", 0, 0, 0, 0 },
    { "vxconn.wav", "vxconn.wav", "", 0, 0, 0, 0 },
    { "vxfail.wav", "vxfail.wav", "", 0, 0, 0, 0 },
    { "vxdone.wav", "vxdone.wav", "", 0, 0, 0, 0 },
};

// Entry 0 is the main INI file, written from its template; entries 1-8 are the site lists.
FILE_ENTRY s_iniFiles[] = {
    { "VANTIX.IN_", "VANTIX.ini", "", 0, 0, 0, 0 },
    { "avsites.ini", "avsites.ini", "", 0, 0, 0, 0 },
    { "mirsites.ini", "mirsites.ini", "", 0, 0, 0, 0 },
    { "gmsites.ini", "gmsites.ini", "", 0, 0, 0, 0 },
    { "hwsites.ini", "hwsites.ini", "", 0, 0, 0, 0 },
    { "vxsites.ini", "vxsites.ini", "", 0, 0, 0, 0 },
    { "olsites.ini", "olsites.ini", "", 0, 0, 0, 0 },
    { "swsites.ini", "swsites.ini", "", 0, 0, 0, 0 },
    { "gvsites.ini", "gvsites.ini", "", 0, 0, 0, 0 },
};

template <int N>
constexpr FILE_GROUP MakeGroup(FILE_ENTRY (&entries)[N], int firstResource)
{
    return FILE_GROUP{ entries, N, firstResource };
}

}  // namespace

const FILE_GROUP g_coreFiles = MakeGroup(s_coreFiles, 0);
const FILE_GROUP g_explorerFiles = MakeGroup(s_explorerFiles, 4);
const FILE_GROUP g_utilityFiles = MakeGroup(s_utilityFiles, 10);
const FILE_GROUP g_commonFiles = MakeGroup(s_commonFiles, 23);
const FILE_GROUP g_iniFiles = MakeGroup(s_iniFiles, 34);

// Addressed by resource number; rows in the order of the groups above.
const RESOURCE_ROW g_resourceMap[RESOURCE_COUNT] = {
    { "EXEFILE2", "EXE", "vantix32.ex_" },
    { "DLLFILE1", "EXE", "vxcore32.dl_" },
    { "CNTFILE1", "EXE", "vxcore32.cn_" },
    { "HLPFILE1", "EXE", "vxcore32.hl_" },

    { "DLLFILE2", "EXE", "vxshell.dl_" },
    { "DLLFILE3", "EXE", "vxshlch.dl_" },
    { "DLLFILE6", "EXE", "vxini.dl_" },
    { "CNTFILE2", "EXE", "Vxshell.cn_" },
    { "HLPFILE2", "EXE", "Vxshell.hl_" },
    { "TXTFILE2", "EXE", "vxshell.tx_" },

    { "EXEFILE3", "EXE", "vxscript.ex_" },
    { "CNTFILE3", "EXE", "vxscript.cn_" },
    { "HLPFILE3", "EXE", "vxscript.hl_" },
    { "TXTFILE3", "EXE", "vxscript.tx_" },
    { "EXEFILE1", "EXE", "vxfind.ex_" },
    { "CNTFILE5", "EXE", "vxfind.cn_" },
    { "HLPFILE5", "EXE", "vxfind.hl_" },
    { "TXTFILE4", "EXE", "vxfind.tx_" },
    { "EXEFILE4", "EXE", "vxsync.ex_" },
    { "DLLFILE4", "EXE", "vxsyncl.dl_" },
    { "CNTFILE4", "EXE", "vxsync.cn_" },
    { "HLPFILE4", "EXE", "vxsync.hl_" },
    { "TXTFILE5", "EXE", "vxsync.tx_" },

    { "EXEFILE5", "EXE", "vxplace.ex_" },
    { "DLLFILE5", "EXE", "vxshim.dl_" },
    { "REMOVEFILE", "EXE", "vxremove.ex_" },
    { "TXTFILE", "EXE", "vxnotes.tx_" },
    { "HLPFILE6", "EXE", "vxplace.hl_" },
    { "TXTFILE6", "EXE", "vxcore32.pd_" },
    { "ORDER", "EXE", "vxorder.wr_" },
    { "LICENSE", "EXE", "vxterms.wr_" },
    { "WAVE2", "EXE", "vxconn.wa_" },
    { "WAVE3", "EXE", "vxfail.wa_" },
    { "WAVE1", "EXE", "vxdone.wa_" },

    { "INIFILE1", "EXE", "vantix.in_" },
    { "INIFILE2", "EXE", "avsites.in_" },
    { "INIFILE3", "EXE", "mirsites.in_" },
    { "INIFILE4", "EXE", "gmsites.in_" },
    { "INIFILE5", "EXE", "hwsites.in_" },
    { "INIFILE6", "EXE", "vxsites.in_" },
    { "INIFILE7", "EXE", "olsites.in_" },
    { "INIFILE8", "EXE", "swsites.in_" },
    { "INIFILE9", "EXE", "gvsites.in_" },

    { "INSTINI", "EXE", "Install.ini" },
};
