/* A language module: the resource section and nothing else. Without it the
   default script would add an empty export table, an import terminator and
   the constructor list sentinels. */
SECTIONS
{
  . = SIZEOF_HEADERS;
  . = ALIGN(__section_alignment__);
  .rsrc __image_base__ + (__section_alignment__ < 0x1000 ? . : __section_alignment__) : { *(.rsrc) *(SORT(.rsrc$*)) }
  /DISCARD/ : { *(*) }
}
