"""The collection job as a Scrapy spider with Scrapy's default settings: every ticked
category's list pages along their next-page links, the headlines holding the keyword, their
article texts, written as the .csv layout (CP932, CR LF) in the order of the categories, pages
and headlines.
    scrapy runspider portal_spider.py -a base=http://127.0.0.1:PORT -a out=FILE.csv"""
import re

import scrapy

CATEGORIES = ["dom", "int", "bus", "brf", "biz", "ent", "spo", "nkn", "cpt", "clm"]
KEYWORD = "速報"
ITEM_START = "<li><a href="
NEXT_PAGE = "次ページ"
BREAK = re.compile("<br>", re.IGNORECASE)


def page_text(response):
    text = response.body.decode("euc_jp", errors="replace")
    text = text.split("\0", 1)[0]
    if "\r\n" not in text:
        text = text.replace("\n", "\r\n")
    return text.strip(" ")


class PortalSpider(scrapy.Spider):
    name = "portal"

    def start_requests(self):
        self.records = {}
        for number, code in enumerate(CATEGORIES):
            yield scrapy.Request(self.base + "/headlines/" + code + "/", callback=self.parse_list,
                                 cb_kwargs={"key": (number,)})

    def parse_list(self, response, key):
        text = page_text(response)
        start = max(text.find("<!-- GEN_HEADLINES -->"), 0)
        end = text.find("</ul>", start)
        m = text.find(ITEM_START, start)
        item = 0
        while m >= 0 and 0 <= end and m + len(ITEM_START) < end:
            c = m + len(ITEM_START)
            d = text.find(">", c)
            f = text.find("</a>", d + 1)
            if d < 0 or f < 0:
                break
            url = self.base + text[c:d]
            title = text[d + 1:f]
            if KEYWORD in title:
                record = key + (item,)
                self.records[record] = (title, url, "")
                yield scrapy.Request(url, callback=self.parse_article,
                                     cb_kwargs={"record": record})
                item += 1
            m = text.find(ITEM_START, f + 1)
        a = text.rfind(NEXT_PAGE)
        b = text.rfind("<a href=", 0, max(a - len("<a href="), 0) + 1) if a >= 0 else -1
        if b >= 0:
            yield scrapy.Request(self.base + text[b + len("<a href="):a - 1],
                                 callback=self.parse_list, cb_kwargs={"key": key + (1 << 30,)})

    def parse_article(self, response, record):
        text = page_text(response)
        s = text.find("<!-- TextStart -->")
        e = text.find("<!-- TextEnd -->")
        body = ""
        if s >= 0 and e >= s + len("<!-- TextStart -->"):
            body = text[s + len("<!-- TextStart -->"):e].replace("\r\n", "")
            body = BREAK.sub("\r\n", body)
        title, url, _ = self.records[record]
        self.records[record] = (title, url, body)

    def closed(self, reason):
        with open(self.out, "wb") as out:
            for key in sorted(self.records):
                title, url, body = self.records[key]
                line = KEYWORD + "＠" + title + "," + url + "," + body.replace("\r\n", ",") + "\r\n"
                out.write(line.encode("cp932", errors="replace"))
